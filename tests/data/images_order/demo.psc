# Layers are drawn in ascending order, whatever order they were set in:
# red (-5) under blue (0) under green (3).
createcolor 255 0 0 red
createcolor 0 255 0 green
createcolor 0 0 255 blue
setlayer green 3
setlayerpos 3 200 300
setlayer red -5
setlayer blue 0
setlayerpos 0 600 0
waituntil 50
