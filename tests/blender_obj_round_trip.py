# A quadkit OBJ export through Blender. With the README's axis settings
# (Forward Y, Up Z): exported as imported, then with one vertex moved and
# one object given another material, exported plain, triangulated and with
# object and material groups. With Blender's default axes on one way only:
# exported turned, once on the way out and once on the way in.
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
readme_axes = {"forward_axis": "Y", "up_axis": "Z"}


def export(name, **options):
    bpy.ops.wm.obj_export(filepath=os.path.join(out_dir, name + ".obj"), **options)


bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.wm.obj_import(filepath=source, **readme_axes)
export("unedited", **readme_axes)
export("turned_on_export")

corner = bpy.data.objects[moved].data.vertices[vertex].co
for axis in range(3):
    corner[axis] += offset[axis]
bpy.data.objects[retextured].data.materials[0] = bpy.data.materials[material]
export("plain", **readme_axes)
export("triangulated", export_triangulated_mesh=True, **readme_axes)
export("groups", export_object_groups=True, export_material_groups=True, **readme_axes)

bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.wm.obj_import(filepath=source)
export("turned_on_import", **readme_axes)
