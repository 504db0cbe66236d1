#pragma once

// The surface area that multiplies every γ, as typed into the dialog.
extern float g_area;

// 1 once the area has been set; the factor is applied only then.
extern int g_areaSet;
