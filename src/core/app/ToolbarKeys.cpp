#include "app/ToolbarKeys.h"

QString WindowOfToolbarKey(const QString& key) {
    for (const ToolbarButton& button : kToolbarButtons)
        if (key == QLatin1String(button.key))
            return button.windowClass;
    return {};
}
