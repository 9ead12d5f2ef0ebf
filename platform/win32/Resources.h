// Identifiers shared by the resource scripts and the code that loads their resources.
#pragma once

#define ZARVO_ICON 1
