// Resource numbers of the Windows programs, for their .rc and their code.
#pragma once

// The program's icon: the first one, which Explorer and the taskbar show.
#define PRIZEDRAW_ICON 1
