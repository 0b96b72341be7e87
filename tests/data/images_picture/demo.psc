# A 7 x 5 picture at (10, 20) over navy.
createcolor 0 0 80 navy
loadimage grid.png grid
setlayer navy 0
setlayer grid 1
setlayerpos 1 10 20
waituntil 50
