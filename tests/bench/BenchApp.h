#pragma once

#include <QApplication>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

// The one application object of the benchmark program: widgets need a QApplication, so every
// benchmark asks for it here instead of making a core application of its own. Without a display
// the offscreen platform stands in.
inline void ensureBenchApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kv8_benchmarks";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Resident memory of this process in MiB, from /proc/self/statm, after the allocator has given
// back what earlier benchmarks freed (so that their order doesn't show in the figure).
inline double residentMiB()
{
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
