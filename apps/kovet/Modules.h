#pragma once

// The commands that draw or measure text run in modules loaded on demand, so that the tool
// itself starts with Qt Core alone: "kovet-render" (Qt Gui) renders pages as .bmp, .emf,
// .gif, .png and .pdf and imports objects, measured with the platform's fonts;
// "kovet-widgets" (Qt Widgets, Print Support and Svg) fills forms in, prints them and
// renders pages as .svg. Each entry runs its command and returns the exit status; `argc`
// and `argv` are for the application object the module makes (the program's name alone).

#include "CommandLine.h"

#define KOVET_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

namespace kovet::cli {

using RenderEntry = int (*)(const RenderRequest& request, int& argc, char** argv);
using FillEntry = int (*)(const FillRequest& request, int& argc, char** argv);
using PrintEntry = int (*)(const PrintRequest& request, int& argc, char** argv);
using ImportEntry = int (*)(const ImportRequest& request, int& argc, char** argv);

inline constexpr const char* kRenderModule = "kovet-render";
inline constexpr const char* kWidgetsModule = "kovet-widgets";

} // namespace kovet::cli
