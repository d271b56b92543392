#include "ui/main/filenamebuilder.h"

namespace quillon::ui {

QString exampleName(const FileNameParts& parts, const QDate& date)
{
    const QString day = date.toString(QStringLiteral("yyyyMMdd"));
    QString name;
    for (size_t i = 0; i < parts.prefixMode.size(); ++i) {
        const int mode = parts.prefixMode[i];
        switch (mode) {
        case 0:
            name += parts.prefixText[i];
            break;
        case 1:
            name += day;
            break;
        case 2:
            name += QLatin1String("1");
            break;
        case 3:
            name += QLatin1String("01");
            break;
        case 4:
            name += QLatin1String("001");
            break;
        default:
            break;
        }
        // An empty user text is followed by the separator too.
        if (parts.separator && mode != 5)
            name += QLatin1Char('_');
    }
    name += QLatin1String("MyFile");
    for (size_t i = 0; i < parts.suffixMode.size(); ++i) {
        switch (parts.suffixMode[i]) {
        case 0:
            name += parts.suffixText[i];
            break;
        case 1:
            name += QLatin1String(".jpg");
            break;
        case 2:
            name += day;
            break;
        case 3:
            name += QLatin1String("1");
            break;
        case 4:
            name += QLatin1String("01");
            break;
        case 5:
            name += QLatin1String("001");
            break;
        default:
            break;
        }
    }
    return name;
}

} // namespace quillon::ui
