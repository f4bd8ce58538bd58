// The virtual keyboard.
#pragma once
