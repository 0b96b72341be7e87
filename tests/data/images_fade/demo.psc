# Layer 0 (at 0, 400) fades in from 0 at 2.5 per second. Layer 1 (at 512, 0)
# fades out at 5 per second, runs below 0, and fades back in from there at 5 per
# second from 400 ms on. Both show the same picture.
createcolor 255 255 255 white
setlayer white 0
setlayerpos 0 0 400
setlayeralpha 0 0
setlayeralphadelta 0 2.5
setlayer white 1
setlayerpos 1 512 0
setlayeralphadelta 1 -5
waituntil 350
setlayeralphadelta 1 5
waituntil 800
