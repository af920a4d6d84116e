# The combination lock: its layout "Game03" with the two dials, their marks, the code strip and
# the dust, drawn from content/App/Layouts/Game03.txt and the pictures in
# content/App/Art/Game03, listed in App/Configs/MiniGame3_Resources.xml (hm_puzzle_content of
# MiniGame2.cmake). Its sounds are the story's; its effects are Game03.ptc.
hm_puzzle_content(3)
