#!/usr/bin/env python3
"""Rewrites every generated file of the data tree: GUI.xlx, the definition files, the model
manuals, the pictures (and the icons embedded from resources/), the sounds, the sample images and table files, then checks the result with
check_data.py. The output is the same on every run."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import check_data  # noqa: E402
import make_definitions  # noqa: E402
import make_gui  # noqa: E402
import make_images  # noqa: E402
import make_manuals  # noqa: E402
import make_pictures  # noqa: E402
import make_sounds  # noqa: E402
import make_tablefiles  # noqa: E402

if __name__ == "__main__":
    for module in (make_gui, make_definitions, make_manuals, make_pictures, make_sounds, make_images,
                   make_tablefiles):
        module.main()
    make_pictures.main(["--resources", os.path.join(make_pictures.ROOT, "resources")])
    check_data.main()
