global 30

meshnode
file globe_crust.obj
t 0 0 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_mantle.ply
t 0 0 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_outer_core.glb
t 0 0 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_inner_core.glb
t 0 0 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file moon.ply
t 19 8 -6
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

