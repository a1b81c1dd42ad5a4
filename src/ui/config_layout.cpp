#include "ui/config_layout.h"

ConfigSize ConfigFormSize(int filesLeft, int filesWidth, int okLeft, int okTop, int okHeight, int cancelWidth)
{
    ConfigSize size;
    size.ClientWidth = filesLeft + filesWidth + filesLeft;
    size.ClientHeight = okTop + okHeight + filesLeft;
    size.CancelLeft = size.ClientWidth - okLeft - cancelWidth;
    return size;
}
