#pragma once

#include <QString>

// Pictures, the style sheet and translations are looked for beside the working folder first ("../grafika/"),
// then beside the executable (a build's bin/), then in the installed data folder relative to the executable
// (/usr/share/quarmel-inventory for /usr/bin), so the program finds them however it was started.
QString grafikaPath(const QString &name);
QString translationsPath();
