# A blue screen under a half-transparent red layer at (100, 50).
createcolor 0 0 255 blue
createcolor 255 0 0 red
setlayer blue 0
setlayer red 1
setlayerpos 1 100 50
setlayeralpha 1 0.5
waituntil 100
