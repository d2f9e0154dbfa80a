global 30

meshnode
file globe_crust.obj
t -19 0 0
s 0.6
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_mantle.ply
t -19 0 0
s 0.6
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_outer_core.glb
t -19 0 0
s 0.6
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file globe_inner_core.glb
t -19 0 0
s 0.6
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file machine_housing.dae
t 0 0.3375 0
s 0.45
r 0 0 0
cancut off
canbecut on
endmeshnode

meshnode
file gear_large.obj
t -0.6126 0.1961 0
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file gear_small.ply
t -4.8215 2.6261 0
s 0.45
r 0 0 0.2618
cancut on
canbecut on
endmeshnode

meshnode
file gear_medium.glb
t 4.2815 -2.0861 0
s 0.45
r 0 0 0.28362
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t -0.6126 0.1961 0.432
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t -4.8215 2.6261 0.432
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file shaft.glb
t 4.2815 -2.0861 0.432
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file house_shell.dae
t 19 -0.0675 0
s 0.45
r 0 0 0
cancut off
canbecut on
endmeshnode

meshnode
file furniture_table.obj
t 15.9625 -3.105 0
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_chair.ply
t 15.9625 -3.2063 -2.025
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_chair.ply
t 15.9625 -3.2063 2.025
s 0.45
r 0 3.14159 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_bed.obj
t 22.645 -3.4425 -2.7
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_lamp.glb
t 24.265 -2.565 0.135
s 0.45
r 0 0 0
cancut on
canbecut on
endmeshnode

