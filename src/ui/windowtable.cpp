#include "ui/windowtable.h"
