# Three sequences side by side, 2 x 2 pixels each: timed (period 150 ms), at a
# rate of 10 per second (period 266.7 ms), and one whose frames come faster than
# the frames drawn (it steps one picture per draw at most).
loadimage timed.seq timed
loadimage rate.seq rate
loadimage jump.seq jump
setlayer timed 0
setlayer rate 1
setlayerpos 1 10 0
setlayer jump 2
setlayerpos 2 20 0
waituntil 600
