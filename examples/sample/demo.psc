# Sample show: about 35 seconds of pictures, colours and layers with music,
# then a 3D scene between picture layers (no Flash movie yet).
# Layers with lower numbers lie underneath. Positions are in a 1024 x 768
# screen, origin top-left; speeds are per second.

loadimage sky.jpg sky
loadimage hills.png hills
loadimage orb.png orb
loadimage panel.jpg panel
loadimage spinner.seq spinner
loadimage pulse.seq pulse
createcolor 0 0 0 black
createcolor 255 255 255 white
createcolor 70 30 10 warm
createcolor 40 0 70 violet
loadmusic music.mp3 theme
loadscene world.psk world

playmusic theme 0

# Night falls: the sky (JPEG) fades in under the hills (PNG with alpha).
setlayer sky -20
setlayeralpha -20 0
setlayeralphadelta -20 0.5
setlayer hills 10
setlayerpos 10 0 512

# An orb rises behind the hills: layer 5 lies under layer 10.
waituntil 1500
setlayer orb 5
setlayerpos 5 620 600
setlayerposdelta 5 -20 -25

# The same picture on a second layer, added on top of everything, drifting across.
waituntil 4000
setlayer orb 30
setlayeradditive 30 1
setlayerpos 30 -160 110
setlayerposdelta 30 160 15

# A spinner (a sequence at 12 pictures per second) and a pulse (a timed sequence).
waituntil 6000
setlayer spinner 20
setlayerpos 20 448 240
setlayer pulse 21
setlayerpos 21 80 80

# A panel slides in from the left while it fades in, under the spinner.
waituntil 8000
setlayer panel 15
setlayerpos 15 -320 300
setlayeralpha 15 0
setlayerposdelta 15 250 0
setlayeralphadelta 15 0.8
waituntil 9250
setlayerposdelta 15 0 0
setlayerpos 15 80 300
setlayeralphadelta 15 0
setlayeralpha 15 1

# A violet veil fades in and out over the scene, under the drifting orb.
waituntil 10500
setlayer violet 25
setlayeralpha 25 0
setlayeralphadelta 25 0.4
waituntil 12000
setlayeralphadelta 25 -0.4
waituntil 13600
removelayer 25

# A warm colour added to everything below it brightens the picture.
waituntil 14000
setlayer warm 26
setlayeradditive 26 1
waituntil 15500
removelayer 26

# The panel leaves; the orb comes back, now in front of the hills, and sinks.
waituntil 16000
setlayerposdelta 15 400 0
removelayer 5
setlayer orb 12
setlayerpos 12 340 430
setlayerposdelta 12 0 45

# A white flash; under it the spinner's picture is freed, which takes its layer away.
waituntil 18000
setlayer white 45
setlayeralphadelta 45 -2
freeimage spinner
waituntil 19000
removelayer 45

# Fade to black.
waituntil 20500
setlayer black 50
setlayeralpha 50 0
setlayeralphadelta 50 0.25
setvolume 160
waituntil 23000
setvolume 80
waituntil 25000

# The 3D scene: the sky (layer -20) lies under it, the hills (layer 10) and a
# panel (layer 15) over it. Its clock starts at 0 when it starts to play.
clearlayers
setlayer sky -20
setlayer hills 10
setlayerpos 10 0 640
setlayer panel 15
setlayerpos 15 24 24
setlayeralpha 15 0.85
playscene world
setscenetime 0
setactivecamera front
waituntil 29000
setactivecamera side
waituntil 33000
setlayer black 50
setlayeralpha 50 0
setlayeralphadelta 50 0.5
waituntil 35000
stopscene
