#pragma once
#include "lists/SearchQuery.h"

// The columns of the bill runs that "票据搜索" offers on the main list, with their titles.
const SearchCatalogue &MainSearchCatalogue();
