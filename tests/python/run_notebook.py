"""run_notebook.py NOTEBOOK: executes a notebook headless in a fresh Python
3 kernel (nbclient), as a reader running it top to bottom would; fails on
any cell's error, and unless every plotting cell drew its figure."""

import sys

import nbformat
from nbclient import NotebookClient

path = sys.argv[1]
notebook = nbformat.read(path, as_version=4)
NotebookClient(notebook, timeout=600, kernel_name="python3").execute()
figures = sum(1 for cell in notebook.cells if cell.cell_type == "code"
              for output in cell.get("outputs", []) if "image/png" in output.get("data", {}))
plotting = sum(1 for cell in notebook.cells if cell.cell_type == "code" and "plt.show()" in cell.source)
if figures != plotting:
    sys.exit(f"{path}: {plotting} cells plot, {figures} figures were drawn")
for cell in notebook.cells:
    for output in cell.get("outputs", []):
        if output.get("name") == "stdout":
            print(output["text"], end="")
print(f"{path}: every cell ran, {figures} figures drawn")
