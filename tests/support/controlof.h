#pragma once

#include <QWidget>

#include <cstdio>
#include <cstdlib>

/// A window's control found by its object name, as a script or an
/// accessibility tool finds it. A missing control ends the test at once.
template <class T> T *controlOf(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "%s has no control %s\n", qPrintable(window->objectName()), name);
        std::abort();
    }
    return found;
}
