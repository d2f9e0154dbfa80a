global 30

meshnode
file machine_housing.dae
t 0 0.75 0
s 1
r 0 0 0
cancut off
canbecut on
endmeshnode

meshnode
file gear_large.obj
t -1.3613 0.4357 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file gear_small.ply
t -10.7144 5.8357 0
s 1
r 0 0 0.2618
cancut on
canbecut on
endmeshnode

meshnode
file gear_medium.glb
t 9.5144 -4.6357 0
s 1
r 0 0 0.28362
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t -1.3613 0.4357 0.96
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t -10.7144 5.8357 0.96
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t 9.5144 -4.6357 0.96
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

