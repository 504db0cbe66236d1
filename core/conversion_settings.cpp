#include "core/conversion_settings.h"

float g_area = 1.0f;
int g_areaSet = 0;
ColumnOrder g_columnOrder = ColumnOrder::gammaTau;
