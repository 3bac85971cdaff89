#include "app/process_state.h"

int EditMode = kEditNone;
std::string TheaterName;
