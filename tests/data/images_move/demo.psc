# Blue moves right at 1000 units per second; at 200 ms it is put at (0, 300)
# while it moves, which does not stop it.
createcolor 0 0 255 blue
setlayer blue 0
setlayerposdelta 0 1000 0
waituntil 150
setlayerpos 0 0 300
waituntil 350
