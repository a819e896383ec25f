// An editor file that reaches sideways into the voices: refused too.
#include "voices/player.h"
