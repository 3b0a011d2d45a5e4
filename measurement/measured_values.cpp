#include "measurement/measured_values.h"

MeasuredValuesRecord MeasuredValues{};
