# Blending: a picture with alpha over red, the same picture added, the same
# picture faded, and an additive grey whose opacity does not dim it.
createcolor 200 0 0 red
createcolor 100 100 100 grey
loadimage alpha.png steps
setlayer red 0
setlayer grey 1
setlayerpos 1 0 400
setlayeradditive 1 1
setlayeralpha 1 0.5
setlayer steps 2
setlayerpos 2 10 10
setlayer steps 3
setlayerpos 3 10 300
setlayeradditive 3 1
setlayer steps 4
setlayerpos 4 10 200
setlayeralpha 4 0.5
waituntil 50
