#pragma once

// `kovet render`, shared by the module that writes bitmaps, metafiles and PDF and the one
// that writes SVG.

#include "CommandLine.h"

#include "display/PageExport.h"

#include <functional>
#include <string>
#include <vector>

namespace kovet::cli {

// Writes the page of `form` to `out` with the options; returns the drawing problems.
using PageWriter =
    std::function<std::vector<TDrawProblem>(TKVT& form, const std::string& out, const TPageRenderOptions& options)>;

// Opens the form in an off-screen Qt application and writes its page; drawing problems are
// reported as warnings. Returns the exit status.
int RenderPage(const RenderRequest& request, int& argc, char** argv, const PageWriter& write);

} // namespace kovet::cli
