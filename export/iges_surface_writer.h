// A complete IGES 5.3 file in the fixed 80-column ASCII form, for CAD
// programs: every rectangle written becomes one rational B-spline surface
// (entity type 128, form 0) of degree 1 in both directions, whose four
// control points are the corners, so that the surface is the rectangle
// exactly, planar or not. Its corners 0, 1, 2, 3 lie at the parameters
// (0, 0), (1, 0), (1, 1), (0, 1). Its directory entry carries the texture
// name as the entity label and the rectangle number (index + 1, as in the
// listing) as the subscript:
//
//   - a name of printable characters without blanks stands as it is;
//   - a name that is empty or has any other byte stands as the eight hex
//     digits of its four bytes, zero bytes filling a short one ("A B" is
//     41204200), which no real name of at most four characters can be;
//   - a rectangle without a valid texture is labelled (null).
//
// The scene's coordinates are taken to be millimetres (kIgesUnitFlag and
// kIgesUnitName). Every coordinate is written in the shortest form that
// reads back as the same 32-bit float. A rectangle with a corner that is not
// a finite number cannot be written, and fails the export.
#ifndef QUADKIT_EXPORT_IGES_SURFACE_WRITER_H_
#define QUADKIT_EXPORT_IGES_SURFACE_WRITER_H_

#include "export/export_format.h"

// The unit of the scene's coordinates, as IGES names it in the Global
// section by a flag and a name; change both together (1 "IN" inches,
// 2 "MM" millimetres, 6 "M" metres, 10 "CM" centimetres).
constexpr int kIgesUnitFlag = 2;
constexpr char kIgesUnitName[] = "MM";

// The date of writing is the current time in UTC, or that of the
// environment variable SOURCE_DATE_EPOCH (seconds since 1970) when it holds
// one, for files that must come out the same twice.
std::unique_ptr<FormatExport> MakeIgesSurfaceExport();

#endif  // QUADKIT_EXPORT_IGES_SURFACE_WRITER_H_
