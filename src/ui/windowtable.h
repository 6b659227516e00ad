#pragma once
class WindowTable;
