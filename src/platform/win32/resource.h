// Identifiers shared by the resource script and the program.
#pragma once

#define IDI_QINGLI 1
