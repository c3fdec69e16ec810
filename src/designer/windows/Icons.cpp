#include "Icons.h"

#include <QString>

namespace kovet::designer {

QIcon DesignerIcon(const char* name) {
    return QIcon::fromTheme(name, QIcon(QString(":/designer/icons/%1.svg").arg(name)));
}

} // namespace kovet::designer
