# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the quadkit developers
#
# File > Import > ZEM scene (.zem) and File > Export > ZEM scene (.zem):
# quadkit turns the scene file into glTF and back, Blender's own glTF
# add-on reads and writes that glTF with its default settings. The add-on
# runs quadkit; it does not read or write scene files itself.
#
# This program is free software: you can redistribute it and/or modify it
# under the terms of the GNU General Public License as published by the
# Free Software Foundation, either version 3 of the License, or (at your
# option) any later version. It is distributed WITHOUT ANY WARRANTY; see
# COPYING, beside this file.

bl_info = {
    "name": "quadkit ZEM scene",
    "author": "the quadkit developers",
    "version": (0, 1, 0),
    "blender": (3, 4, 0),
    "location": "File > Import > ZEM scene (.zem), File > Export > ZEM scene (.zem)",
    "description": "Import and export ZEM scene files through quadkit, with the scene's textures",
    "category": "Import-Export",
}

import os
import shutil
import stat
import subprocess
import sys
import tempfile

import bpy
from bpy.props import BoolProperty, StringProperty
from bpy_extras.io_utils import ExportHelper, ImportHelper

# Where the scene file that a Blender scene came from is kept: on the
# Blender scene, and on every object the import made.
SCENE_KEY = "quadkit_scene"


def _preferences(context):
    addon = context.preferences.addons.get(__package__)
    return addon.preferences if addon else None


class QuadkitPreferences(bpy.types.AddonPreferences):
    bl_idname = __package__

    quadkit_path: StringProperty(
        name="quadkit program",
        description="The quadkit program to run; empty for the one this add-on carries "
                    "(on macOS, build quadkit and name it here)",
        subtype="FILE_PATH",
    )
    texture_folder: StringProperty(
        name="Texture folder",
        description="The folder of texture images last used by File > Import > ZEM scene",
        subtype="DIR_PATH",
    )

    def draw(self, context):
        self.layout.prop(self, "quadkit_path")
        self.layout.prop(self, "texture_folder")


class QuadkitFailure(Exception):
    pass


def _bundled_quadkit():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bin")
    if sys.platform.startswith("win"):
        return os.path.join(folder, "quadkit.exe")
    if sys.platform.startswith("linux"):
        return os.path.join(folder, "quadkit")
    return None


def find_quadkit(context):
    """The quadkit to run, made executable when an unpacked zip dropped the bit."""
    prefs = _preferences(context)
    chosen = bpy.path.abspath(prefs.quadkit_path) if prefs and prefs.quadkit_path else ""
    path = chosen or _bundled_quadkit()
    if not path:
        raise QuadkitFailure("this add-on carries quadkit for Linux and Windows only: build quadkit and name it "
                             "in the add-on's preferences (quadkit program)")
    if not os.path.isfile(path):
        raise QuadkitFailure("quadkit program '%s' not found%s" % (
            path, "" if chosen else ": install the add-on again, or name quadkit in its preferences"))
    if not sys.platform.startswith("win") and not os.access(path, os.X_OK):
        try:
            mode = os.stat(path).st_mode
            os.chmod(path, mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
        except OSError as error:
            raise QuadkitFailure("quadkit program '%s' is not executable and cannot be made so: %s"
                                 % (path, error.strerror))
    return path


def run_quadkit(context, args):
    """Runs quadkit; returns (exit code, standard output, lines of standard error)."""
    program = find_quadkit(context)
    flags = getattr(subprocess, "CREATE_NO_WINDOW", 0)
    try:
        done = subprocess.run([program] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              stdin=subprocess.DEVNULL, creationflags=flags)
    except OSError as error:
        hint = ""
        if sys.platform.startswith("win") and isinstance(error, PermissionError):
            hint = " (Windows refused to start it: unblock the file in its Properties, or name another " \
                   "quadkit in the add-on's preferences)"
        raise QuadkitFailure("cannot run quadkit '%s': %s%s" % (program, error.strerror or error, hint))
    out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
    err = [line for line in done.stderr.decode("utf-8", "replace").splitlines() if line.strip()]
    return done.returncode, out, err


def report_quadkit(operator, out, err, failed):
    """quadkit's warnings to the Info editor; its reasons, when it failed, as errors."""
    for line in out.splitlines():
        if line.startswith("Warning"):
            operator.report({"WARNING"}, line)
    for line in err:
        if failed:
            operator.report({"ERROR"}, line)
        elif not line.startswith("quadkit: version"):
            operator.report({"WARNING"}, line)


def numpy_bool_for_gltf():
    # Blender 3.4's glTF add-on calls numpy.bool, which numpy 1.24 and later
    # no longer have (Debian's Blender 3.4 comes with such a numpy).
    import warnings
    import numpy
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # numpy's notice that np.bool is gone
        missing = not hasattr(numpy, "bool")
    if missing:
        numpy.bool = bool


def _default_texture_folder(scene_path):
    beside = os.path.join(os.path.dirname(scene_path), "textures")
    return beside if os.path.isdir(beside) else ""


class ImportZem(bpy.types.Operator, ImportHelper):
    """Import a ZEM scene file, with its textures from a folder of images"""
    bl_idname = "import_scene.zem"
    bl_label = "Import ZEM scene"
    bl_options = {"REGISTER", "UNDO"}

    filename_ext = ".zem"
    filter_glob: StringProperty(default="*.zem", options={"HIDDEN"})
    texture_folder: StringProperty(
        name="Texture folder",
        description="Folder of PNG or JPEG images named by texture word (WALL.png); empty: a folder "
                    "named textures beside the scene, when there is one",
        subtype="DIR_PATH",
    )

    def invoke(self, context, event):
        prefs = _preferences(context)
        if prefs and not self.texture_folder:
            self.texture_folder = prefs.texture_folder
        return ImportHelper.invoke(self, context, event)

    def execute(self, context):
        scene_path = os.path.abspath(bpy.path.abspath(self.filepath))
        folder = bpy.path.abspath(self.texture_folder) if self.texture_folder else ""
        folder = folder or _default_texture_folder(scene_path)
        wm = context.window_manager
        wm.progress_begin(0, 3)
        work = tempfile.mkdtemp(prefix="quadkit-")
        try:
            glb = os.path.join(work, os.path.splitext(os.path.basename(scene_path))[0] + ".glb")
            args = ["/e", scene_path, glb, "/GLB"] + ([folder.rstrip("/\\") or folder] if folder else [])
            code, out, err = run_quadkit(context, args)
            wm.progress_update(1)
            report_quadkit(self, out, err, code != 0)
            if code != 0:
                return {"CANCELLED"}
            numpy_bool_for_gltf()
            before = set(bpy.data.objects)
            bpy.ops.import_scene.gltf(filepath=glb)
            wm.progress_update(2)
            for obj in set(bpy.data.objects) - before:
                obj[SCENE_KEY] = scene_path
            context.scene[SCENE_KEY] = scene_path
            prefs = _preferences(context)
            if prefs and self.texture_folder:
                prefs.texture_folder = self.texture_folder
        except QuadkitFailure as failure:
            self.report({"ERROR"}, str(failure))
            return {"CANCELLED"}
        finally:
            shutil.rmtree(work, ignore_errors=True)
            wm.progress_end()
        self.report({"INFO"}, "Imported %s%s" % (scene_path, " with the textures of " + folder if folder else ""))
        return {"FINISHED"}


def _read(path):
    with open(path, "rb") as scene:
        return scene.read()


class ExportZem(bpy.types.Operator, ExportHelper):
    """Write the Blender scene's rectangles back into an existing ZEM scene file"""
    bl_idname = "export_scene.zem"
    bl_label = "Export ZEM scene"

    filename_ext = ".zem"
    filter_glob: StringProperty(default="*.zem", options={"HIDDEN"})
    check_existing: BoolProperty(default=False, options={"HIDDEN"})
    keep_backup: BoolProperty(
        name="Keep the old scene as .bak",
        description="Before writing, copy the scene file to the same name with .bak added",
        default=True,
    )

    def invoke(self, context, event):
        remembered = context.scene.get(SCENE_KEY)
        if remembered and not self.filepath:
            self.filepath = remembered
        return ExportHelper.invoke(self, context, event)

    def execute(self, context):
        scene_path = os.path.abspath(bpy.path.abspath(self.filepath))
        if not os.path.isfile(scene_path):
            self.report({"ERROR"}, "'%s' does not exist: quadkit writes into an existing scene file and never "
                                   "creates one; pick the scene file that was imported" % scene_path)
            return {"CANCELLED"}
        if context.object is not None and context.object.mode != "OBJECT" and bpy.ops.object.mode_set.poll():
            bpy.ops.object.mode_set(mode="OBJECT")  # puts Edit Mode's changes into the mesh
        wm = context.window_manager
        wm.progress_begin(0, 3)
        work = tempfile.mkdtemp(prefix="quadkit-")
        try:
            glb = os.path.join(work, "scene.glb")
            numpy_bool_for_gltf()
            bpy.ops.export_scene.gltf(filepath=glb)
            wm.progress_update(1)
            old = _read(scene_path)
            backup = scene_path + ".bak"
            if self.keep_backup:
                shutil.copy2(scene_path, backup)
            code, out, err = run_quadkit(context, ["/i", scene_path, glb, "/GLTF"])
            wm.progress_update(2)
            report_quadkit(self, out, err, code != 0)
            if code != 0:
                if _read(scene_path) == old:
                    state = "the scene file is unchanged"
                else:
                    state = "the scene file holds the rectangles that were written before the failure" + (
                        "; the old scene is kept in " + backup if self.keep_backup else "")
                self.report({"ERROR"}, "Export into %s failed: %s" % (scene_path, state))
                return {"CANCELLED"}
        except QuadkitFailure as failure:
            self.report({"ERROR"}, str(failure))
            return {"CANCELLED"}
        except OSError as error:
            self.report({"ERROR"}, "cannot keep the old scene as %s: %s" % (scene_path + ".bak", error.strerror))
            return {"CANCELLED"}
        finally:
            shutil.rmtree(work, ignore_errors=True)
            wm.progress_end()
        context.scene[SCENE_KEY] = scene_path
        summary = [line for line in out.splitlines() if "imported" in line]
        self.report({"INFO"}, "%s: %s" % (scene_path, summary[-1] if summary else "updated"))
        return {"FINISHED"}


def _menu_import(self, context):
    self.layout.operator(ImportZem.bl_idname, text="ZEM scene (.zem)")


def _menu_export(self, context):
    self.layout.operator(ExportZem.bl_idname, text="ZEM scene (.zem)")


_classes = (QuadkitPreferences, ImportZem, ExportZem)


def register():
    for cls in _classes:
        bpy.utils.register_class(cls)
    bpy.types.TOPBAR_MT_file_import.append(_menu_import)
    bpy.types.TOPBAR_MT_file_export.append(_menu_export)


def unregister():
    bpy.types.TOPBAR_MT_file_export.remove(_menu_export)
    bpy.types.TOPBAR_MT_file_import.remove(_menu_import)
    for cls in reversed(_classes):
        bpy.utils.unregister_class(cls)
