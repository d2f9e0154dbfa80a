global 30

meshnode
file house_shell.dae
t 0 -0.15 0
s 1
r 0 0 0
cancut off
canbecut on
endmeshnode

meshnode
file furniture_table.obj
t -6.75 -6.9 0
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_chair.ply
t -6.75 -7.125 -4.5
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_chair.ply
t -6.75 -7.125 4.5
s 1
r 0 3.14159 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_bed.obj
t 8.1 -7.65 -6
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file furniture_lamp.glb
t 11.7 -5.7 0.3
s 1
r 0 0 0
cancut on
canbecut on
endmeshnode

