#include "settings/folderlisting.h"

#include <QDir>

#include <algorithm>

namespace quillon::settings {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Compares two runs of digits by value without converting them, so runs of any length work.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.mid(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

int compareListingNames(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype ie = i;
            qsizetype je = j;
            while (ie < a.size() && isDigit(a[ie]))
                ++ie;
            while (je < b.size() && isDigit(b[je]))
                ++je;
            if (const int c = compareNumbers(QStringView(a).mid(i, ie - i),
                                             QStringView(b).mid(j, je - j)))
                return c;
            i = ie;
            j = je;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return a.compare(b); // same under the rule ("a01" and "A1"): exact text decides
}

QFileInfoList listFolder(const QString& folder)
{
    QDir dir(folder);
    QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), [](const QFileInfo& x, const QFileInfo& y) {
        return compareListingNames(x.fileName(), y.fileName()) < 0;
    });
    return entries;
}

} // namespace quillon::settings
