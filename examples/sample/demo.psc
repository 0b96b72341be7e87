# Sample show: the timeline on its own. Four seconds of black, with the clocks
# moved around on the way.
waituntil 1000
setscenetime 0
settime 500
waituntil 2000
setflashtime 0
waituntil 4000
