# A quadkit glTF export through Blender with its default settings: import,
# optionally three edits, then export as glTF with a separate buffer and as
# GLB, both with the default settings.
#
#   blender -b --factory-startup --python-exit-code 1 --python blender_gltf_round_trip.py -- \
#       IN OUT_DIR [VERTEX_OBJECT X Y Z DX DY DZ  MOVED_OBJECT DX DY DZ  RETEXTURED_OBJECT MATERIAL]
#
# The edits, as a user makes them: in Edit Mode, the vertex of VERTEX_OBJECT
# at glTF position (X, Y, Z) moves by (DX, DY, DZ) in Blender's axes; in
# Object Mode, MOVED_OBJECT moves by (DX, DY, DZ); RETEXTURED_OBJECT gets
# MATERIAL. The default startup scene (its cube) stays, as a user's would.
import os
import sys

# Debian's Blender 3.4 glTF add-on calls numpy.bool, which its numpy no
# longer has.
import numpy
numpy.bool = bool

import bpy

args = sys.argv[sys.argv.index("--") + 1:]
source, out_dir = args[0], args[1]
bpy.ops.import_scene.gltf(filepath=source)

if len(args) > 2:
    mesh = bpy.data.objects[args[2]].data
    x, y, z = (float(a) for a in args[3:6])
    wanted = (x, -z, y)  # glTF's +Y up is Blender's +Z up
    vertex = min(mesh.vertices, key=lambda v: sum((v.co[k] - wanted[k]) ** 2 for k in range(3)))
    for axis, offset in enumerate(args[6:9]):
        vertex.co[axis] += float(offset)
    moved = bpy.data.objects[args[9]]
    for axis, offset in enumerate(args[10:13]):
        moved.location[axis] += float(offset)
    bpy.data.objects[args[13]].data.materials[0] = bpy.data.materials[args[14]]

bpy.ops.export_scene.gltf(filepath=os.path.join(out_dir, "separate.gltf"), export_format="GLTF_SEPARATE")
bpy.ops.export_scene.gltf(filepath=os.path.join(out_dir, "binary.glb"))
