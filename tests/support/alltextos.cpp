// Every layer declares its texts in kivo::textos. Two headers defining the same name, never
// included together in the program, would link silently with one of the two texts; included
// here together, a clash stops the build.
#include "app/textos.h"
#include "capture/grids/textos.h"
#include "capture/input/textos.h"
#include "capture/textos.h"
#include "info/textos.h"
#include "platform/textos.h"
#include "questionnaire/textos.h"
#include "rules/textos.h"
#include "store/textos.h"
#include "submission/textos.h"
