# Renders the sample scene as the Blender add-on shows it, textures and
# all, for the README (doc/blender-sample.png):
#
#   blender -b --factory-startup --python tools/render_sample.py -- QUADKIT OUT.png
#
# QUADKIT is a built quadkit (./build/quadkit). The add-on is loaded from
# blender/quadkit_zem with that program as its own, so nothing is installed;
# File > Import > ZEM scene then finds examples/textures beside the scene.
# Cycles on the CPU, so that it renders without a display.
import math
import os
import shutil
import sys
import tempfile

import bpy
from mathutils import Vector

args = sys.argv[sys.argv.index("--") + 1:]
quadkit, picture = os.path.abspath(args[0]), os.path.abspath(args[1])
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

work = tempfile.mkdtemp(prefix="quadkit-render-")
shutil.copytree(os.path.join(root, "blender", "quadkit_zem"), os.path.join(work, "quadkit_zem"))
os.makedirs(os.path.join(work, "quadkit_zem", "bin"))
shutil.copy(quadkit, os.path.join(work, "quadkit_zem", "bin", "quadkit.exe" if os.name == "nt" else "quadkit"))
sys.path.insert(0, work)
import quadkit_zem  # noqa: E402
quadkit_zem.register()

for obj in list(bpy.data.objects):  # the startup scene's cube, light and camera
    bpy.data.objects.remove(obj)
assert bpy.ops.import_scene.zem(filepath=os.path.join(root, "examples", "box.zem")) == {"FINISHED"}
for mat in bpy.data.materials:  # the small images as crisp pixels
    for node in mat.node_tree.nodes if mat.use_nodes else []:
        if node.type == "TEX_IMAGE":
            node.interpolation = "Closest"

scene = bpy.context.scene
camera = bpy.data.objects.new("Camera", bpy.data.cameras.new("Camera"))
camera.data.lens = 14
camera.data.clip_end = 5000
camera.location = (230, 110, 175)
camera.rotation_euler = (Vector((-180, -240, 50)) - camera.location).to_track_quat("-Z", "Y").to_euler()
scene.collection.objects.link(camera)
scene.camera = camera
light = bpy.data.objects.new("Light", bpy.data.lights.new("Light", "POINT"))
light.data.energy = 1.5e6
light.data.shadow_soft_size = 20
light.location = (0, -60, 150)
scene.collection.objects.link(light)

scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = 96
scene.cycles.use_denoising = False
scene.render.resolution_x, scene.render.resolution_y = 480, 300
scene.render.image_settings.file_format = "PNG"
scene.render.image_settings.color_mode = "RGB"
scene.render.image_settings.compression = 100
scene.render.filepath = picture
bpy.ops.render.render(write_still=True)
shutil.rmtree(work, ignore_errors=True)
print("rendered", picture, math.floor(os.path.getsize(picture) / 1024), "KiB")
