#pragma once

#include <QString>

// One text run of a screen item. The display server reads margin as the alignment mode:
// 0 the text begins at x, 1 it is centred on x, 2 it ends at x, 3 to 5 it follows the text
// drawn just before it. y is the top of a line px pixels high. An empty text is not sent.
class FontStyle {
public:
    int x = 0;
    int y = 0;
    // Callers set every float of a run they send; they start at 0 so that a forgotten one
    // is sent as 0 rather than as whatever the memory held.
    float px = 0;
    float margin = 0;
    QString text;
    // Colour and opacity, each 0 to 255.
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};
