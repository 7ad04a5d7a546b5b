#include "emulator/board_model.h"
