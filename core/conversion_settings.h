#pragma once

// The surface area that multiplies every γ, as typed into the dialog.
extern float g_area;

// 1 once the area has been set; the factor is applied only then.
extern int g_areaSet;

// The order of γ and τ in the rows of a file whose column header does not name them.
enum class ColumnOrder { gammaTau, tauGamma };

// γ first unless the command line says otherwise.
extern ColumnOrder g_columnOrder;
