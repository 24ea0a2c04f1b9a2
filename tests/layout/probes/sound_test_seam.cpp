#include <DSoundTestSeam.h>
