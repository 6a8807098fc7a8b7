#pragma once
// The build stamp: the build date as the number YYYYMMDD and the build time in seconds since
// midnight. The newest build to start writes it into accounts_dep.ver; older copies then stop.
#include <QString>

namespace tabel::app {

struct BuildStamp {
    int date = 0; // 20220506
    int time = 0; // 39256 for 10:54:16
    // "20220506.39256"
    QString text() const { return QString::number(date) + u'.' + QString::number(time); }
    friend bool operator==(const BuildStamp&, const BuildStamp&) = default;
};

// From the compiler's texts: "May  6 2022" (English month, day padded with a blank, year) and
// "10:54:16". Returns {0, 0} for texts of another form.
BuildStamp stampFrom(const char* date, const char* time);
// The stamp of this build.
BuildStamp currentBuild();

} // namespace tabel::app
