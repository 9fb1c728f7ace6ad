# A wrong call: mypy --strict must report it.
import gantline

scene = gantline.read("teapot.txt")
gantline.tessellate(scene, "eight")
