/* The Start Menu program list shown by the program assignment dialog. */
#include "picking/picking.h"

void BuildStartMenuCache()
{
    /* Filled in with the program assignment dialog. */
}
