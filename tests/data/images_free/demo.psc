# Red shows on layers 2 and 5, green on 3. Freeing red takes both of its layers;
# a new red in the same slot shows nowhere until a layer is set.
createcolor 255 0 0 red
createcolor 0 255 0 green
setlayer red 2
setlayer green 3
setlayerpos 3 500 0
setlayer red 5
setlayerpos 5 0 400
waituntil 50
freeimage red
createcolor 0 0 255 red
waituntil 150
