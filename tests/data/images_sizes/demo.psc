# A sequence whose pictures differ in size and format: 6 x 6 colour, 2 x 3 grey,
# then 4 x 4 colour (the size and format of the texture).
createcolor 0 0 80 navy
loadimage sizes.seq sizes
setlayer navy 0
setlayer sizes 1
setlayerpos 1 100 100
waituntil 250
