#pragma once
#include "test_files.h"
