# A quadkit OBJ export through Blender with the README's axis settings
# (Forward Y, Up Z): import, move one vertex, give one object another
# material, export plain, triangulated and with object groups.
#
#   blender -b --factory-startup --python blender_obj_round_trip.py -- \
#       IN.obj OUT_DIR MOVED_OBJECT VERTEX DX DY DZ RETEXTURED_OBJECT MATERIAL
import os
import sys

import bpy

args = sys.argv[sys.argv.index("--") + 1:]
source, out_dir = args[0], args[1]
moved, vertex = args[2], int(args[3])
offset = [float(a) for a in args[4:7]]
retextured, material = args[7], args[8]

bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.wm.obj_import(filepath=source, forward_axis="Y", up_axis="Z")

corner = bpy.data.objects[moved].data.vertices[vertex].co
for axis in range(3):
    corner[axis] += offset[axis]
bpy.data.objects[retextured].data.materials[0] = bpy.data.materials[material]

for name, options in (("plain", {}),
                      ("triangulated", {"export_triangulated_mesh": True}),
                      ("groups", {"export_object_groups": True})):
    bpy.ops.wm.obj_export(filepath=os.path.join(out_dir, name + ".obj"),
                          forward_axis="Y", up_axis="Z", **options)
