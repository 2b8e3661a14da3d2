#include "tableline.h"

TableLine::TableLine() = default;

TableLine::~TableLine() = default;
