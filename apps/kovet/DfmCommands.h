#pragma once

// The commands that read Delphi binary form files: `dfm2txt` and `extract`.

#include "CommandLine.h"

namespace kovet::cli {

// Writes the file's textual form notation. Throws EInvalidStreamFormat or EFileError.
int Dfm2txt(const Dfm2txtRequest& request);

// Writes each form stored in the file as DIR/<component>.kvt and lists what it wrote on
// standard output. A name that cannot be a file name is made one: every character but ASCII
// letters, digits, '_', '-' and '.' becomes '_', a leading '.' (as in "." and "..") gets a
// '_' before it, an empty name is "unnamed"; a name that came before gets "-2", "-3"...
// Throws EInvalidStreamFormat, EFileError, or Exception when the file holds no form.
int Extract(const ExtractRequest& request);

} // namespace kovet::cli
