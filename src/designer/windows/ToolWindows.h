#pragma once

// Where the designer's floating tool windows (properties, alignment palette) first appear.

class QWidget;

namespace kovet::designer {

enum class TToolEdge { Top, Bottom };

// Places a tool window that has never been placed beside its owner's right edge, level with
// the owner's top or bottom edge, or as far right as the screen allows when it has no room
// beside it, so that it covers as little of the page being designed as it can; once placed (or
// moved by the user) it keeps its place. Call when the window is about to be shown.
void PlaceBesideOwner(QWidget& tool, TToolEdge edge);

} // namespace kovet::designer
