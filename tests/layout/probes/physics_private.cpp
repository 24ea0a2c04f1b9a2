#include <NewtonTypes.h>
