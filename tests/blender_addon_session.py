# The Blender add-on as a user takes it: installed from its zip, File >
# Import > ZEM scene with a texture folder, three edits, File > Export > ZEM
# scene; then a Subdivision Surface applied to one object and exported
# again, which must fail.
#
#   blender -b --factory-startup --python-exit-code 1 --python blender_addon_session.py -- \
#       ZIP SCENE TEXTURES VERTEX_OBJECT X Y Z  MOVED_OBJECT  RETEXTURED_OBJECT MATERIAL  SUBDIVIDED_OBJECT
#
# In Edit Mode the vertex of VERTEX_OBJECT nearest glTF position (X, Y, Z)
# moves by (0.5, -1, 2) in Blender's axes; in Object Mode MOVED_OBJECT moves
# by as much; RETEXTURED_OBJECT gets MATERIAL. After the first export the
# scene and its .bak are copied to SCENE.edited and SCENE.bak.first; the
# failed export's error goes to SCENE.error.
import os
import shutil
import sys

import bmesh
import bpy

args = sys.argv[sys.argv.index("--") + 1:]
zip_path, scene, textures = args[0], args[1], args[2]
vertex_object, where = args[3], tuple(float(a) for a in args[4:7])
moved_object, retextured_object, material, subdivided_object = args[7:11]
offset = (0.5, -1.0, 2.0)

bpy.ops.preferences.addon_install(filepath=zip_path)
bpy.ops.preferences.addon_enable(module="quadkit_zem")
assert bpy.ops.import_scene.zem(filepath=scene, texture_folder=textures) == {"FINISHED"}

# Every material whose word has an image in the folder shows it.
images = {os.path.splitext(name)[0].lower() for name in os.listdir(textures)}
for mat in bpy.data.materials:
    if mat.name == "Material":  # the startup cube's
        continue
    shown = mat.use_nodes and any(node.type == "TEX_IMAGE" and node.image for node in mat.node_tree.nodes)
    assert shown == (mat.name.lower() in images), "material %s: image shown %s" % (mat.name, shown)

obj = bpy.data.objects[vertex_object]
bpy.context.view_layer.objects.active = obj
obj.select_set(True)
bpy.ops.object.mode_set(mode="EDIT")
edit = bmesh.from_edit_mesh(obj.data)
wanted = (where[0], -where[2], where[1])  # glTF's +Y up is Blender's +Z up
vertex = min(edit.verts, key=lambda v: sum((v.co[k] - wanted[k]) ** 2 for k in range(3)))
for axis in range(3):
    vertex.co[axis] += offset[axis]
bmesh.update_edit_mesh(obj.data)
bpy.ops.object.mode_set(mode="OBJECT")
for axis in range(3):
    bpy.data.objects[moved_object].location[axis] += offset[axis]
bpy.data.objects[retextured_object].data.materials[0] = bpy.data.materials[material]

bpy.ops.object.mode_set(mode="EDIT")  # the export takes what Edit Mode holds too
assert bpy.ops.export_scene.zem(filepath=scene) == {"FINISHED"}
shutil.copyfile(scene, scene + ".edited")
shutil.copyfile(scene + ".bak", scene + ".bak.first")

subdivided = bpy.data.objects[subdivided_object]
bpy.ops.object.select_all(action="DESELECT")
bpy.context.view_layer.objects.active = subdivided
subdivided.select_set(True)
subdivided.modifiers.new("Subdivision", "SUBSURF")
bpy.ops.object.modifier_apply(modifier="Subdivision")
try:
    bpy.ops.export_scene.zem(filepath=scene)
    error = "the export did not fail"
except RuntimeError as failure:
    error = str(failure)
with open(scene + ".error", "w") as out:
    out.write(error)
