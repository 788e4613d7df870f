#pragma once

// Every port of the extension change, for callers that use them all.
#include "failure.h"
#include "fileid.h"
#include "fileport.h"
#include "folderfiles.h"
#include "journalport.h"
#include "messageport.h"
#include "progress.h"
