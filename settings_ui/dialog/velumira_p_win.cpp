#include "velumira_p.h"

void ShowVelumiraP() {}
