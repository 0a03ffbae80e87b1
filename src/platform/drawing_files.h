// The schedule drawing as PDF (one page per sheet) and SVG (the sheets side by side) through
// cairo, and any of the three formats written to a file by its extension.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "drawing/drawing.h"
#include "platform/output_set.h"

namespace tierwise {

// Throw Rejection when cairo fails.
void writePdf(const Drawing& drawing, std::ostream& out);
void writeSvg(const Drawing& drawing, std::ostream& out);

// Whether this build writes PDF and SVG (it has cairo). Every build writes DXF.
bool drawsPdfAndSvg();

// The format from the extension (.pdf, .svg, .dxf); the file appears complete or not at all
// (output_set.h), a DXF read back through the structure check (dxf_writer.h). Throws Rejection
// naming the file for an unknown extension or a failed write.
void writeDrawingFile(const Drawing& drawing, const std::filesystem::path& target);
// The same into output `output` of `outputs`, whose commit() puts it in place.
void writeDrawingOutput(const Drawing& drawing, OutputSet& outputs, size_t output);

}  // namespace tierwise
