global 30

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[80]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[79]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[78]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[77]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[76]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[75]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[74]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[73]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[72]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[71]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[70]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[69]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[68]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[67]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[66]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[65]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[64]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[63]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[62]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[61]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[60]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[59]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[58]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[57]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[56]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[55]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[54]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[53]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[52]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[51]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[50]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[48]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[47]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[46]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[45]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[42]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[41]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[40]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[39]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[38]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[37]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[36]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[35]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[34]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[33]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[32]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[31]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[28]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[27]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[26]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[25]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[24]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[23]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[22]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[21]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[20]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[19]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[18]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[17]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[12]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[11]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[9]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[8]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[6]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[5]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[3]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

meshnode
file /usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
part nodes[2]
t 0 0 0
s 0.05
r 0 0 0
cancut on
canbecut on
endmeshnode

