#pragma once
// Where the about box opens, and the addresses its links open. Pure.
#include <QPointF>
#include <QSizeF>

// Left: centred on the main window's outer width; Top: centred on its outer
// height, then 1500 twips higher. All in twips.
inline QPointF AboutBoxPosition(QSizeF mainOuter, QSizeF aboutOuter) {
    return {mainOuter.width() / 2 - aboutOuter.width() / 2,
            mainOuter.height() / 2 - aboutOuter.height() / 2 - 1500};
}

inline constexpr const char* kMakerHomePage = "https://www.korvane.example/";
inline constexpr const char* kMakerAddressText = "www.korvane.example";
inline constexpr const char* kProductPage = "https://www.korvane.example/products/otk5530";
inline constexpr const char* kSensorProductPage = "https://www.korvane.example/products/temperature-sensors";
