#pragma once

#include <QString>

// Pictures, the style sheet and translations are looked for beside the working folder first ("../grafika/"),
// then beside the executable, so the program also finds them when started from elsewhere.
QString grafikaPath(const QString &name);
QString translationsPath();
